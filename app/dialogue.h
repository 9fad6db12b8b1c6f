#pragma once

// Asks for the boundary conditions, profile, material and dimensions, fills
// the model and echoes the barrel into the report.
void read_inputs();
