// The whole program in-process: the window registry on a fresh data folder,
// its windows reached through the global references as the program's own
// parts reach them.
#pragma once

#include "app/Registry.h"
#include "support/PetFixture.h"

#include <memory>

namespace apptest {

class RegistryProgram : public pettest::Program {
public:
    RegistryProgram()
    {
        registry = std::make_unique<app::Registry>();
        attach(*ModuloGeneral);
    }
    ~RegistryProgram() override { registry.reset(); }

    std::unique_ptr<app::Registry> registry;
};

} // namespace apptest
