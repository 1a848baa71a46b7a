// Operating-system facts on Linux.
#include "shell/platform.h"

#include "shell/services.h"

Os_Family Current_Os_Family() {
    return Program_Services().os_family.value_or(Os_Family::Non_NT);
}
