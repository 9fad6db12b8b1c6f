// From the typed dimensions to the normalised mass and stiffness matrices of a
// stepped Euler-Bernoulli beam. Each stage works on the model record.
#pragma once

// Cuts the barrel into equal elements, each with the section at its centre;
// checks the wall, sums the mass and writes the report's mass line.
void discretize_barrel();

// Consistent mass matrix of every element.
void build_element_mass();

// Bending stiffness matrix of every element.
void build_element_stiffness();

// Global assembly, the breech constraint, normalisation, and "jacobi.in".
void assemble_system();
