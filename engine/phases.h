// Fills the frame tick's phase operations and the start-up stage operations with the
// subsystems built into this engine.
#pragma once

void install_engine_operations();
