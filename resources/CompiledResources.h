#pragma once

/// Registers the pictures compiled into the program (resources/velumina.qrc). They live in a
/// static library, so the linker drops them unless something calls this once at start-up.
void InitializeCompiledResources();
