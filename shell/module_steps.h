// Start and end steps of the program's source modules. Each module keeps a nesting counter
// so that its work runs once however often the step is called: the start work when the
// counter first leaves zero, the end work when it comes back to zero.
//
// Misc builds and releases the hexadecimal prefix itself. Work that lives in a higher
// layer (the register batch file of Drawing) is registered by that layer with
// Set_Module_Work before Run_Module_Start_Steps; work registered for a module that has
// already started runs its start part at once, so that nothing is missed.
#pragma once

#include <functional>

enum class Module { Unit1, Lptconfm, Misc, Unit3, Myfile, Unitch, Drawing, Unitcg };

struct ModuleWork {
    std::function<void()> start;
    std::function<void()> end;
};

// Replaces the registered work of a module (Misc keeps its own prefix work as well).
void Set_Module_Work(Module module, ModuleWork work);

void Module_Start(Module module);
void Module_End(Module module);  // an end without a matching start does nothing
int Module_Nesting(Module module);

// All modules in link order: Unit1, Lptconfm, Misc, Unit3, Myfile, Unitch, Drawing,
// Unitcg; the end steps run in the reverse order.
void Run_Module_Start_Steps();
void Run_Module_End_Steps();
