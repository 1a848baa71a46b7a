// Operating-system facts on Linux.
#include "shell/platform.h"

#include "shell/services.h"

OsFamily Current_Os_Family() {
    return Program_Services().os_family.value_or(OsFamily::Non_NT);
}
