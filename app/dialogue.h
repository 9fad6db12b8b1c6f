#pragma once

// Asks for the report's name until a file of that name can be created and
// stores the open file in the model; false when the run has ended instead.
bool create_report();

// Asks for the boundary conditions, profile, material and dimensions, fills
// the model and echoes the barrel into the report.
void read_inputs();

// Ends the run because the answers ran out before the last question.
void input_ended();
