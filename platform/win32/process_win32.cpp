#include "platform/process.h"

namespace platform {

void IgnoreBrokenPipes() {}

}  // namespace platform
