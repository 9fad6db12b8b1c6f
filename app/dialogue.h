#pragma once

// The two steels the material menu offers, in its order.
struct steel {
    double modulus;  // psi
    double density;  // lbf*s^2/in^4: weight density divided by 386
};
constexpr steel STEELS[] = {
    {29000000.0, 0.00073049},  // 1: 416R stainless steel
    {29700000.0, 0.00073568},  // 2: 4140 chrome moly steel
};

// Asks for the boundary conditions, profile, material and dimensions, fills
// the model and echoes the barrel into the report.
void read_inputs();

// Ends the run because the answers ran out before the last question.
void input_ended();
