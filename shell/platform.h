// Operating-system facts the port hunt depends on.
#pragma once

#include <optional>

// The families the port hunt tells apart. On the NT family only LPT1 is searched (its
// drivers hide the other ports); Linux behaves as the other family, so LPT2 and LPT3 are
// tried too. Unknown stands for a failed version query and ends the hunt like NT.
enum class OsFamily { Non_NT, NT, Unknown };

OsFamily Current_Os_Family();
