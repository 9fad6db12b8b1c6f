#include "model/barrel_model.h"

// Static storage: zero-filled before the run starts, and never on a stack,
// which its three 200x200 stores would overflow.
barrel_record barrel_model;
