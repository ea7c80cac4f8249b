#pragma once

// Designs a filter spec as Apply does, for the suites that measure or quantize a
// design. GoogleTest assertions: call it inside ASSERT_NO_FATAL_FAILURE or check
// HasFatalFailure() after.

#include <gtest/gtest.h>

#include <utility>

#include "core/design_pipeline.h"

namespace tapwright::test {

// `spec` and `design` become the spec as designed and the design.
inline void DesignAsApply(FilterSpec& spec, CFirDesign& design) {
    DesignRequest request = RequestFromSpec(spec);
    request.previous = design;
    DesignOutcome outcome = tapwright::Design(std::move(request));
    ASSERT_TRUE(outcome.checked);
    ASSERT_GE(outcome.r, 0);
    spec = outcome.spec;
    design = std::move(outcome.design);
}

}  // namespace tapwright::test
