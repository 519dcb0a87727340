#include "engine/StepArithmetic.h"

#include "engine/EngineMessages.h"

namespace step {

double DivisionByZero(EngineError& error) {
    error.Record(2, Messages().divisionByZero);
    return 1;
}

} // namespace step
