#pragma once

// The one place where the answer reader calls the expression engine: functions whose
// computation is the engine's own and must not be written twice.
namespace answers::engine {

// The atomic function up: 1 at 0, 1/2 at +-1/2, 0 for |x| >= 1.
double Up(double x);

} // namespace answers::engine
