#include "show/field_of_view.h"

#include "runtime/shaping.h"

double field_of_view(double t)
{
    double d = -40.0 * ease((t - 128.5) * 0.2, 1.0);
    if (t > 132.1)
        d = 0.0;
    if (t > 141.7)
        d = 20.0 * (1.0 - ease((t - 141.7) * 0.54, 1.0));
    if (t < 103.2)
        d += 25.0 * ramp_in((t - 99.0) * 0.5);
    d -= 15.0 * ease((t - 112.0) * 0.35, 1.0);
    d += 15.0 * ease((t - 118.0) * 0.15, 1.0);
    d -= 5.0 * ease((t - 83.0) * 0.25, 1.0);
    return 65.0 + d + 5.0 * ease((t - 90.0) * 0.25, 1.0);
}
