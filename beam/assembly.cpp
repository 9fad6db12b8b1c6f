// The global system. Neighbouring elements share a node, so their matrices
// overlap in that node's 2x2 block. Normalising to first diagonal entries 156
// and 12 keeps the determinant search in a comfortable range whatever the
// barrel's size; scale_ratio carries the eigenvalue back to physical units.
#include "beam_model.h"

#include "../app/barrel_model.h"
#include "../app/run_output.h"

namespace {

// Scales the leading n x n block by factor and writes it, one row a line.
void normalise_and_write(double (&matrix)[MAX_DOF][MAX_DOF], int n, double factor)
{
    std::FILE *file = barrel_model.matrix_file;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            matrix[i][j] = factor * matrix[i][j];
            file_print(file, " %12.4g ", matrix[i][j]);
        }
        file_print(file, " \n");
    }
}

}  // namespace

void assemble_system()
{
    barrel_record &m = barrel_model;
    auto &mass = m.mass_matrix;
    auto &stiffness = m.stiffness_matrix;

    for (int e = 0; e < m.element_count; ++e)
        for (int l = 0; l < 4; ++l)
            for (int c = 0; c < 4; ++c) {
                stiffness[2 * e + l][2 * e + c] += m.element_stiffness[e][l][c];
                mass[2 * e + l][2 * e + c] += m.element_mass[e][l][c];
            }

    int n = 2 * m.element_count + 2;
    if (m.bc_type == 2) {
        // A fixed breech removes node 0. Copying upwards in ascending order
        // never reads an entry already overwritten.
        n = 2 * m.element_count;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                mass[i][j] = mass[i + 2][j + 2];
                stiffness[i][j] = stiffness[i + 2][j + 2];
            }
    }
    // With both ends free nothing is removed: K is singular with two rigid-body
    // modes at zero, below where the search starts.
    m.dof_count = n;

    const double m00 = mass[0][0], k00 = stiffness[0][0];
    file_print(m.matrix_file, "%d \n", n);
    normalise_and_write(mass, n, 156 / m00);
    normalise_and_write(stiffness, n, 12 / k00);
    m.scale_ratio = (156 / m00) / (12 / k00);
}
