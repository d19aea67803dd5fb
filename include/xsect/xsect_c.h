/* The C interface of xsect, for hosts written in C, C#, Fortran, Rust, Julia and other languages that
 * load native libraries. It compiles as C99: opaque handles, plain arrays, no C++ type.
 *
 * Every call that can fail returns 0 or a negative status and never lets an exception out. The status is
 * either one of the library's status words (CS_NO_ELEMENTS_CROSSED = -1 ... CS_CUT_INSIDE_ONE_SHELL = -15:
 * the library refused the request) or one of the XSECT_E_* values below (the call itself was wrong).
 * xsect_last_error() gives the sentence that goes with the last failure of the calling thread.
 *
 * A model handle may be used from several threads at once: the calls that change the library's state
 * take turns on it. Link with xsect::c (CMake) or -lxsect_c. */
#ifndef XSECT_XSECT_C_H
#define XSECT_XSECT_C_H

#include <stdbool.h>
#include <stdint.h>

/* A build that compiles the interface into its own module defines XSECT_C_API empty. */
#ifndef XSECT_C_API
#  if defined(_WIN32)
#    if defined(XSECT_C_BUILDING)
#      define XSECT_C_API __declspec(dllexport)
#    else
#      define XSECT_C_API __declspec(dllimport)
#    endif
#  else
#    define XSECT_C_API __attribute__((visibility("default")))
#  endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The interface's own failures; the library's refusals keep their own status words (-1 ... -15). */
enum {
    XSECT_OK = 0,
    XSECT_E_ARGUMENT = -100, /* bad input: a null pointer, a count, a non-finite number, an unknown id or case */
    XSECT_E_FILE = -101,     /* a model file that cannot be read or does not follow the model format */
    XSECT_E_MEMORY = -102,   /* out of memory */
    XSECT_E_INTERNAL = -103  /* anything else that went wrong inside; the sentence says what */
};

/* The load case codes of xsect_load_case, equal to the library's. */
enum { XSECT_CASE_STATIC = 0, XSECT_CASE_UNSUPPORTED = 1, XSECT_CASE_RESPONSE_SPECTRUM = 2 };
enum {
    XSECT_COMBINE_SUM = -1,
    XSECT_COMBINE_SRSS = 0,
    XSECT_COMBINE_ABS = 1,
    XSECT_COMBINE_CQC = 2,
    XSECT_COMBINE_CLOSE_MODES = 4
};
enum { XSECT_SIGN_FROM_SUM = 0, XSECT_SIGN_FROM_MODE = 1 };

typedef struct xsect_model xsect_model;

/* The sentence of the calling thread's last failure; "" before any. Valid until the thread's next call. */
XSECT_C_API const char* xsect_last_error(void);

/* The name of a status ("CS_NO_ELEMENTS_CROSSED", "XSECT_E_ARGUMENT", "CS_UNKNOWN"); static, never null. */
XSECT_C_API const char* xsect_status_name(int status);

/* ---- Models ---------------------------------------------------------------------------------------- */

/* Reads a JSON model or a CSV manifest (docs/model-format.md) with the same reader as the xsect program.
 * XSECT_E_FILE with the reader's sentence (file, place, fault) when it cannot; the library's status when
 * it refuses the model (CS_PLANE_NOT_DEFINED for named plane nodes, CS_NO_SHELLS). A model that names no
 * plane nodes and whose nodes do not lie in one plane is an assembly, cut by planes
 * (xsect_plane_sections, xsect_station_sections). *out is set only on success. */
XSECT_C_API int xsect_model_load(const char* path, xsect_model** out);

/* One load case, as in the model format. frequencies (modes values) and coefficients (modes x modes,
 * row by row) may be null unless the combination needs them (close modes, CQC); they are copied. */
typedef struct xsect_load_case {
    int32_t id;
    const char* name; /* may be null */
    int32_t type;     /* XSECT_CASE_* */
    int32_t modes;    /* at least 1 for a response-spectrum case */
    int32_t combination;
    int32_t sign_method;
    bool apply_sign;
    int32_t sign_mode;
    bool combine_residual;
    const double* frequencies;
    const double* coefficients;
} xsect_load_case;

/* A model as arrays, row-major. Shells have shell_width node slots each, the unused ones -1 at the end.
 * shell_results and frame_results hold one pointer per load case, in the order of cases; a null pointer
 * (or a null array) means no results for that case. A static case's block is [shell][slot][6] (frames:
 * [frame][end A, B][6]); a response-spectrum case's is [shell][slot][mode][6] (frames:
 * [frame][end][mode][6]). The six values are Fx, Fy, Fz, Mx, My, Mz acting on the element at that node,
 * in global axes; the values of unused slots are not read. */
typedef struct xsect_model_arrays {
    int32_t node_count;
    const int32_t* node_ids;
    const double* node_xyz; /* [node][3] */
    int32_t shell_count;
    int32_t shell_width;
    const int32_t* shell_ids;
    const int32_t* shell_nodes; /* [shell][slot] */
    int32_t frame_count;
    const int32_t* frame_ids;
    const int32_t* frame_nodes; /* [frame][2] */
    int32_t case_count;
    const xsect_load_case* cases;
    const double* const* shell_results;
    const double* const* frame_results;
    double tolerance;       /* > 0, the calculators' geometric tolerance */
    int32_t plane_nodes[3]; /* three positive node ids that fix the plane, or zeros */
    const double* shell_thickness; /* [shell], each positive, weighting the centroids; null: none */
} xsect_model_arrays;

/* Builds a model from arrays. Everything is checked first (ids unique, element nodes known, numbers
 * finite, results only for known cases): XSECT_E_ARGUMENT names the first fault. The library's refusal
 * of the plane (CS_PLANE_NOT_DEFINED for named plane nodes, CS_NO_SHELLS) is returned as its status;
 * without plane nodes a model whose nodes do not lie in one plane is an assembly. Nothing of the arrays
 * is kept: the model holds the library's own copy of the results only. */
XSECT_C_API int xsect_model_from_arrays(const xsect_model_arrays* arrays, xsect_model** out);

/* Frees a model; null is allowed. */
XSECT_C_API void xsect_model_free(xsect_model* model);

/* Whether the model is an assembly of shells and frames in space, cut by planes; false for a null model. */
XSECT_C_API bool xsect_is_assembly(const xsect_model* model);

/* The number of load cases; 0 for a null model. */
XSECT_C_API int32_t xsect_case_count(const xsect_model* model);

/* Writes the load case ids in ascending order into ids (xsect_case_count values). */
XSECT_C_API int xsect_case_ids(const xsect_model* model, int32_t* ids);

/* The name of a load case; "" when it has none or the case is unknown. Valid while the model lives. */
XSECT_C_API const char* xsect_case_name(const xsect_model* model, int32_t load_case);

/* ---- The host interface's cut ---------------------------------------------------------------------- */

/* The six values of one load case across one cut, as the host interface gives them: F1, F2, F3, M1,
 * M2, M3 along the cut's axes (global axes for a static case with global_axes), about the cut's
 * midpoint, or about moment_point when it is not null. side 0 gathers the nodes left of the directed
 * cut, 1 those right of it. The library's refusal comes back as its status. */
XSECT_C_API int xsect_forces_on_section(const xsect_model* model, int32_t load_case, const double start[3],
                                        const double end[3], int32_t side, bool global_axes,
                                        const double* moment_point, double forces[6]);

/* ---- Sections --------------------------------------------------------------------------------------- */

/* A named linear combination of load cases: the sum of factors[i] x cases[i]. A response-spectrum term
 * adds +-factor x its combined value, so a request gives a range (a maximum and a minimum). */
typedef struct xsect_request {
    const char* name;
    int32_t term_count;
    const int32_t* cases;
    const double* factors;
} xsect_request;

/* The load combinations of a model file, in the file's order, as requests that point into the model
 * (valid while it lives): a host can hand them straight back to the calls below. */
XSECT_C_API int32_t xsect_combination_count(const xsect_model* model);
XSECT_C_API int xsect_combination(const xsect_model* model, int32_t index, xsect_request* out);

/* Where xsect_cut_sections and xsect_station_sections write, for S sections and R requests. Any
 * pointer may be null to skip that output. values holds [section][request][max, min][N, Vt, Vk, Mn, Mt,
 * Mk] in the section axes n, t, k (global unit vectors): the forces that the part on the +n side exerts
 * on the part on the -n side, about the centroid of the part of the cut inside the mesh. */
typedef struct xsect_sections {
    double* position;       /* [S] distance along the axis (stations), else 0 */
    double* values;         /* [S][R][2][6] */
    int32_t* status;        /* [S] 0, or the library's status for that section (nothing crossed, off the plane) */
    double* centroid;       /* [S][3] */
    double* covered_length; /* [S] length of the cut inside the mesh */
    bool* ends_inside;      /* [S] an end of the cut lies inside a shell: the section is incomplete */
    double* n;              /* [S][3] */
    double* t;              /* [S][3] */
    double* k;              /* [S][3] */
} xsect_sections;

/* Cuts the model along cut_count straight cuts, cuts holding [cut][start, end][x, y, z], on all cores.
 * With request_count 0 every static and response-spectrum load case is a request of its own, in
 * ascending id; cases of other types are skipped (R = xsect_case_count when the model has none). Bad input (an unknown case, empty or
 * duplicate names, non-finite numbers) is XSECT_E_ARGUMENT and writes nothing; a section the library
 * cannot compute has its own status and NaN values. */
XSECT_C_API int xsect_cut_sections(const xsect_model* model, int32_t cut_count, const double* cuts,
                                   int32_t request_count, const xsect_request* requests, xsect_sections* out);

/* count sections perpendicular to the axis, evenly spaced from axis_start to axis_end inclusive, each
 * across the whole model; n is the axis direction, so the values read like a beam's along the axis. On
 * an assembly each section is a plane, taken as xsect_plane_sections takes it with no options. */
XSECT_C_API int xsect_station_sections(const xsect_model* model, const double axis_start[3],
                                       const double axis_end[3], int32_t count, int32_t request_count,
                                       const xsect_request* requests, xsect_sections* out);

/* What limits and orients the plane sections of an assembly; a zeroed struct (or a null pointer) asks
 * for none of it. */
typedef struct xsect_plane_options {
    const double* up;           /* [3]: k is its projection onto the plane; null (or along n): global Z, else Y */
    int32_t shell_count;        /* only these elements count (element numbers); both counts 0: every element */
    const int32_t* shells;
    int32_t frame_count;
    const int32_t* frames;
    int32_t region_count;       /* a polygon in the plane, [region_count][3], at least 3 points; 0: none */
    const double* region;
    const double* moment_point; /* [3]: the moment point instead of the centroid of the cut area; null: the centroid */
} xsect_plane_options;

/* Cuts an assembly by plane_count planes, planes holding [plane][point, normal][x, y, z] (a normal of any
 * length but zero), for the requests as xsect_cut_sections takes them. n is each plane's unit normal, k
 * the projection of `up` onto it and t = k x n: the values are the forces that the part on the +n side
 * exerts on the part on the -n side, about the centroid of the cut area (docs/assemblies.md). A plane
 * model is XSECT_E_ARGUMENT (it is cut by xsect_cut_sections); so are bad requests, selections and
 * regions. A section that meets nothing has CS_NO_ELEMENTS_CROSSED and NaN values. */
XSECT_C_API int xsect_plane_sections(const xsect_model* model, int32_t plane_count, const double* planes,
                                     int32_t request_count, const xsect_request* requests,
                                     const xsect_plane_options* options, xsect_sections* out);

/* xsect_station_sections with request_count 0 (every static and response-spectrum load case in
 * ascending id): positions [count] and values [station][case][max, min][N, Vt, Vk, Mn, Mt, Mk]. */
XSECT_C_API int xsect_stations(const xsect_model* model, const double axis_start[3], const double axis_end[3],
                               int32_t count, double* positions, double* values);

#ifdef __cplusplus
}
#endif

#endif
