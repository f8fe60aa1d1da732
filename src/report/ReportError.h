// Failures of the report engine. They reach the application's error handler
// like the table engine's own, which shows their text in the error box.
#pragma once

#include "engine/EngineError.h"

namespace report {

class ReportError : public engine::EngineError {
public:
    using engine::EngineError::EngineError;
};

} // namespace report
