// Module start and end steps with their nesting counters.
#include "shell/module_steps.h"

#include <array>
#include <utility>

#include "shell/hex_text.h"

namespace {

constexpr std::array<Module, 8> Link_Order = {Module::Unit1,   Module::Lptconfm, Module::Misc,
                                              Module::Unit3,   Module::Myfile,   Module::Unitch,
                                              Module::Drawing, Module::Unitcg};

struct ModuleRecord {
    int nesting = 0;
    ModuleWork work;
};

std::array<ModuleRecord, Link_Order.size()>& Records() {
    static std::array<ModuleRecord, Link_Order.size()> records;
    return records;
}

ModuleRecord& Record_Of(Module module) {
    return Records()[static_cast<std::size_t>(module)];
}

void Own_Start_Work(Module module) {
    if (module == Module::Misc) Build_Hex_Prefix();
}

void Own_End_Work(Module module) {
    if (module == Module::Misc) Release_Hex_Prefix();
}

}  // namespace

void Set_Module_Work(Module module, ModuleWork work) {
    ModuleRecord& record = Record_Of(module);
    record.work = std::move(work);
    if (record.nesting > 0 && record.work.start) record.work.start();
}

void Module_Start(Module module) {
    ModuleRecord& record = Record_Of(module);
    if (record.nesting++ != 0) return;
    Own_Start_Work(module);
    if (record.work.start) record.work.start();
}

void Module_End(Module module) {
    ModuleRecord& record = Record_Of(module);
    if (record.nesting == 0 || --record.nesting != 0) return;
    if (record.work.end) record.work.end();
    Own_End_Work(module);
}

int Module_Nesting(Module module) {
    return Record_Of(module).nesting;
}

void Run_Module_Start_Steps() {
    for (Module module : Link_Order) Module_Start(module);
}

void Run_Module_End_Steps() {
    for (auto it = Link_Order.rbegin(); it != Link_Order.rend(); ++it) Module_End(*it);
}
