// Operating-system facts on Linux.
#include "shell/platform.h"

namespace {

std::optional<Os_Family> overridden_family;

}  // namespace

Os_Family Current_Os_Family() {
    return overridden_family.value_or(Os_Family::Non_NT);
}

void Override_Os_Family(std::optional<Os_Family> family) {
    overridden_family = family;
}
