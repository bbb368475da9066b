#include "platform/CommandRunner.h"

CommandRunner::~CommandRunner() = default;
