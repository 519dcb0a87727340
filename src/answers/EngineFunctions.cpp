#include "answers/EngineFunctions.h"

#include "engine/Evaluation.h"

namespace answers::engine {

double Up(double x) {
    return UpFunction(x);
}

} // namespace answers::engine
