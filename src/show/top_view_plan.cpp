#include "show/top_view_plan.h"

#include "runtime/generator.h"
#include "runtime/shaping.h"

namespace
{

std::vector<LeafPlacement> plan_leaves(double t)
{
    std::vector<LeafPlacement> leaves;
    leaves.reserve(leaf_count);
    random_seed(top_view_seed);
    for (int i = 0; i < leaf_count; ++i) {
        const double h0 = 44.0 * random_unit();
        const double g = 4.0 * random_unit() - 2.0;
        const double h = 4.0 * random_unit() - 2.0;
        const double c = t < 194.5 ? 8.8 : 0.4;
        const double fall = (random_unit() + 1.0) * (t - 185.0 + c) * 0.16;
        const double y = h0 - fall * fall;
        const double s = random_unit();
        random_unit();
        random_unit();
        const int o = random_next() % leaf_shapes;
        const double w = 1.0 - ease(y - 2.2, 1.0);
        const double spin = (s + 0.5) * t * 30.0;
        leaves.push_back({250.0 * h, 100.0 * y, 250.0 * g, 55.0 * w, i % 2 == 0 ? spin : -spin, o});
    }
    return leaves;
}

} // namespace

bool top_view_runs(double t)
{
    return !((5.0 < t && t < 40.0) || (142.0 < t && t < 159.0) || t > 203.0);
}

double top_view_source_time(double t)
{
    if (5.0 < t && t < 40.0)
        return 5.0;
    if (142.0 < t && t < 159.0)
        return 142.0;
    if (t > 203.0)
        return 203.0;
    return t;
}

TopViewPlan plan_top_view(double t)
{
    TopViewPlan plan;
    if (!top_view_runs(t))
        return plan;
    plan.runs = true;
    random_seed(top_view_seed);
    random_unit(); // the texture-matrix set-up has always drawn one value
    plan.scale = t > 84.0 ? 2.0 : 1.0;
    plan.city = t < 160.8;
    if (plan.city && 84.0 < t && t < 132.0) {
        plan.city_tilted = true;
        plan.city_rise = 10.0 * ramp_in(t - 110.0);
    }
    plan.insect = 160.8 < t && t < 185.0;
    if (185.0 < t && t < 204.0)
        plan.leaves = plan_leaves(t);
    plan.cleared = t > 202.0;
    return plan;
}
