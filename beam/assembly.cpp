// The global system. Neighbouring elements share a node, so their matrices
// overlap in that node's 2x2 block. Normalising to first diagonal entries 156
// and 12 keeps the determinant search in a comfortable range whatever the
// barrel's size; scale_ratio carries the eigenvalue back to physical units.
#include "beam/beam_model.h"

#include "model/barrel_model.h"
#include "model/run_output.h"
#include "model/text_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// One entry as " %12.4g " writes it. Most entries lie outside the band and
// are exact zeros, whose text never changes; along each diagonal of the band
// a barrel's sections repeat, so each diagonal (even and odd rows apart, as
// displacement and rotation rows differ) remembers its last entry's text.
constexpr char ZERO_ENTRY[] = "            0 ";
constexpr std::size_t ENTRY_WIDTH = sizeof ZERO_ENTRY - 1;
constexpr std::size_t ENTRY_CAPACITY = 48;  // " %12.4g " of any double

struct entry_text {
    std::uint64_t bits;  // the value this text was made for, bit for bit
    std::size_t length;
    char text[ENTRY_CAPACITY];
};

std::size_t write_entry(char *out, double entry, entry_text &last)
{
    std::uint64_t bits;
    std::memcpy(&bits, &entry, sizeof bits);
    if (bits == 0) {  // +0 only: -0 prints as "-0"
        std::memcpy(out, ZERO_ENTRY, ENTRY_WIDTH);
        return ENTRY_WIDTH;
    }
    if (last.length == 0 || last.bits != bits) {
        last.bits = bits;
        last.text[0] = ' ';
        last.length = 1 + format_general(last.text + 1, entry, 12, 4);
        last.text[last.length++] = ' ';
    }
    std::memcpy(out, last.text, last.length);
    return last.length;
}

// Scales the leading n x n block by factor and writes it, one row a line.
void normalise_and_write(double (&matrix)[MAX_DOF][MAX_DOF], int n, double factor)
{
    entry_text diagonals[16] = {};
    char row[MAX_DOF * ENTRY_CAPACITY + 2];
    for (int i = 0; i < n; ++i) {
        std::size_t length = 0;
        for (int j = 0; j < n; ++j) {
            const double entry = matrix[i][j] = factor * matrix[i][j];
            length += write_entry(row + length, entry, diagonals[((j - i) & 7) * 2 + (i & 1)]);
        }
        std::memcpy(row + length, " \n", 2);
        file_write(barrel_model.matrix_file, row, length + 2);
    }
}

// The farthest distance from the diagonal at which M or K holds anything but
// zero; a beam's elements couple neighbouring nodes only, so it is 3.
int measure_half_bandwidth(int n)
{
    const barrel_record &m = barrel_model;
    int reach = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (!(m.mass_matrix[i][j] == 0 && m.stiffness_matrix[i][j] == 0)) reach = std::max(reach, std::abs(i - j));
    return reach;
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
    if (m.bc_type == BC_BREECH_FIXED) {
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
    m.half_bandwidth = measure_half_bandwidth(n);
}
