#pragma once

// One whole calculation, from the banner to the final key press. Returns the
// exit status: 0 for a reported frequency, 1 when the barrel's data ended the
// run, 2 when the input ended early or a file could not be written.
int run_calculation();

// Clears the inputs and sums that a stage accumulates into.
void reset_model();
