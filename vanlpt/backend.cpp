#include "vanlpt/backend.h"

namespace vanlpt {

bool Backend::Run(Vanlpt_Transaction* list, std::size_t count, std::size_t* done,
                  std::string* error) {
    for (*done = 0; *done < count; ++*done) {
        Vanlpt_Transaction& t = list[*done];
        const bool ok =
            t.read != 0 ? Read(t.address, &t.data, error) : Write(t.address, t.data, error);
        if (!ok) return false;
    }
    return true;
}

}  // namespace vanlpt
