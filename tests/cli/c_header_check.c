/* The exported C headers, compiled as C: they must be valid C99 on their own. */
#include "bp_double.h"
#include "bp_float.h"
#include "bp_q16.h"
#include "bp_q32.h"

double c_header_check_sum(void);

double c_header_check_sum(void) {
    double sum = 0.0;
    int i;
    for (i = 0; i < BP_DOUBLE_LENGTH; ++i) {
        sum += bp_double[i] + bp_float[i] + bp_q16[i] / 65536.0 + bp_q32[i] / 4294967296.0;
    }
    return sum;
}
