// The one record that holds a whole run: inputs, intermediate results and the
// three output streams. Every stage reads and writes this record and nothing
// else, so a stage takes no arguments and returns nothing.
#pragma once

#include <cstdio>

constexpr int MAX_DOF = 200;       // order of the square matrix stores
constexpr int MAX_ELEMENTS = 100;  // capacity of the element-matrix tables
constexpr int MAX_STATIONS = 200;  // capacity of the per-element section tables
// Forty elements put the discretisation error far below the four digits
// printed; the stores hold the problem they make.
constexpr int ELEMENT_COUNT = 40;
static_assert(ELEMENT_COUNT <= MAX_ELEMENTS && 2 * ELEMENT_COUNT + 2 <= MAX_DOF);

constexpr int REPORT_NAME_CAPACITY = 260;  // 259 characters and the terminator

// The side files every run writes in the working folder.
constexpr const char *MATRIX_FILE_NAME = "jacobi.in";
constexpr const char *LOG_FILE_NAME = "bf_det.in";
constexpr const char *SIDE_FILE_NAMES[] = {MATRIX_FILE_NAME, LOG_FILE_NAME};

// Exit statuses of a run.
constexpr int EXIT_RESULT = 0;      // a finite frequency, all files written
constexpr int EXIT_BARREL = 1;      // the barrel's own data ended the run
constexpr int EXIT_IO = 2;          // input ended early or a file failed

// Values of the three choice fields, which hold the menu answers as typed.
constexpr int BC_FREE_FREE = 1;
constexpr int BC_BREECH_FIXED = 2;
constexpr int PROFILE_TWO_TAPER = 2;
constexpr int PROFILE_THREE_TAPER = 3;
constexpr int MATERIAL_416R = 1;  // the first entry of STEELS
constexpr int MATERIAL_4140 = 2;

// Units: inch, pound-force, second. Node k sits at x = k*Le and carries
// degree of freedom 2k (displacement) and 2k+1 (rotation times Le).
struct barrel_record {
    int element_count;  // beam elements; every element loop reads it

    int bc_type;   // BC_FREE_FREE or BC_BREECH_FIXED (muzzle free)
    int profile;   // PROFILE_TWO_TAPER or PROFILE_THREE_TAPER
    int material;  // MATERIAL_416R or MATERIAL_4140: 1 + its index in STEELS

    double modulus;  // Young's modulus, psi
    double density;  // mass density, lbf*s^2/in^4

    double diameter_h;  // groove diameter: the bore, constant along the barrel
    double diameter_a;  // outside diameter at the breech, x = 0
    double diameter_b;  // outside diameter at the end of the reinforce, x = AB
    double diameter_c;  // at x = AB+BC: muzzle (two-taper) or reinforce small end
    double diameter_d;  // muzzle of the three-taper profile; 0 otherwise
    double length_ab;   // reinforce
    double length_bc;   // reinforce taper
    double length_cd;   // main taper of the three-taper profile; 0 otherwise
    double total_length;

    double element_length;                  // Le
    double station_diameter[MAX_STATIONS];  // outside diameter at element centre
    double station_area[MAX_STATIONS];      // cross-section area of the element
    double station_inertia[MAX_STATIONS];   // second moment of area
    double total_mass;                      // sum of area*density*Le, lbf*s^2/in

    double mass_template[4][4];  // consistent-mass coefficients, times 420
    double stiffness_template[4][4];
    double element_mass[MAX_ELEMENTS][4][4];
    double element_stiffness[MAX_ELEMENTS][4][4];

    double mass_matrix[MAX_DOF][MAX_DOF];       // M, normalised after assembly
    double stiffness_matrix[MAX_DOF][MAX_DOF];  // K, normalised after assembly
    int dof_count;                              // n: 82 free ends, 80 fixed breech
    double scale_ratio;  // turns an eigenvalue of the normalised system into omega^2
    int half_bandwidth;  // farthest nonzero entry from the diagonal; 0 if not measured

    double work_matrix[MAX_DOF][MAX_DOF];  // K - lambda*M, reduced in place
    double eigen;                          // trial eigenvalue lambda
    double det;                            // determinant at the last evaluation
    int nzc;                               // sign changes between consecutive pivots
    double fundamental_frequency;          // Hz

    char report_name[REPORT_NAME_CAPACITY];  // as typed
    std::FILE *report_file;
    std::FILE *matrix_file;  // "jacobi.in"
    std::FILE *log_file;     // "bf_det.in"

    bool run_ended;   // a stage stopped the run: the later stages are skipped
    int exit_status;  // worst outcome so far, one of the EXIT_ values
};

extern barrel_record barrel_model;
