#include "engine/StepArithmetic.h"

#include "engine/EngineMessages.h"

namespace step {

double DivisionByZero(EngineError& error) {
    error.Record(EngineErrorCode::Arithmetic, Messages().divisionByZero);
    return 1;
}

} // namespace step
