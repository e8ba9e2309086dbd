// Primary producers and suspected migratory inputs.
#include <gtest/gtest.h>

#include <sstream>

#include "matview.hpp"
#include "migratory.hpp"

using namespace flownet;

namespace {

struct Net {
    int n = 0, nl = 0;
    Vector<8> IN, MIG;
    Matrix<8> T;
    std::string report;
    int classify() {
        std::ostringstream out;
        int nMig = classifyInputs(out, n, nl, IN.view(), T.view(), MIG.view());
        listMigratoryInputs(out, nl, nMig, MIG.view());
        report = out.str();
        return nMig;
    }
};

const std::string kWarning =
    "\n WARNING!! NO UNAMBIGUOUS PRIMARY PRODUCERS FOUND.\n"
    " THEREFORE, ALL INPUTS ARE ASSUMED TO BE PRIMARY PRODUCTION.\n\n";

}  // namespace

TEST(Migratory, AFedCompartmentWithAnInputIsASuspect) {
    // 1: input 100, nothing flows in (a primary producer); 2: input 20 and 30 from 1.
    Net net;
    net.n = net.nl = 2;
    net.IN(1) = 100.0f;
    net.IN(2) = 20.0f;
    net.T(1, 2) = 30.0f;
    EXPECT_EQ(net.classify(), 1);
    EXPECT_EQ(net.MIG(1), 0.0f);
    EXPECT_EQ(net.MIG(2), 20.0f);
    EXPECT_EQ(net.report,
              " THE FOLLOWING INPUTS ARE SUSPECTED TO BE MIGRATORY INPUTS.\n"
              " THEY WILL BE TREATED AS NON-PRIMARY INFLOWS.\n\n"
              "   MIGRATORY INPUT TO   2 =  .20000E+02\n\n\n");
}

TEST(Migratory, DetritusAndSelfLoopsCountAsInflows) {
    // 1 is a producer; 2 eats only detritus (3); 4 only feeds on itself. Non-living 3 has an input
    // too, which is never classified.
    Net net;
    net.n = 4;
    net.nl = 2;
    net.IN(1) = 5.0f;
    net.IN(2) = 1.0f;
    net.IN(3) = 2.0f;
    net.T(3, 2) = 0.5f;
    EXPECT_EQ(net.classify(), 1);
    EXPECT_EQ(net.MIG(2), 1.0f);
    EXPECT_EQ(net.MIG(3), 0.0f);

    Net self;
    self.n = self.nl = 2;
    self.IN(1) = 5.0f;
    self.IN(2) = 1.0f;
    self.T(2, 2) = 0.25f;
    EXPECT_EQ(self.classify(), 1);
    EXPECT_EQ(self.MIG(2), 1.0f);
}

TEST(Migratory, WithoutAnUnambiguousProducerAllInputsArePrimary) {
    // Both inputs enter compartments that also feed on each other.
    Net net;
    net.n = net.nl = 2;
    net.IN(1) = 5.0f;
    net.IN(2) = 1.0f;
    net.T(1, 2) = 3.0f;
    net.T(2, 1) = 1.0f;
    EXPECT_EQ(net.classify(), 0);
    EXPECT_EQ(net.MIG(1), 0.0f);
    EXPECT_EQ(net.MIG(2), 0.0f);
    EXPECT_EQ(net.report, kWarning);

    // A flow that the feeding-cycle search removed (zero, or rounded below zero) no longer counts.
    net.T(2, 1) = -1.0e-7f;
    EXPECT_EQ(net.classify(), 1);
    EXPECT_EQ(net.MIG(2), 1.0f);
}

TEST(Migratory, PureProducersPrintNothing) {
    Net net;
    net.n = 3;
    net.nl = 2;
    net.IN(1) = 5.0f;
    net.T(1, 2) = 2.0f;
    net.T(2, 3) = 1.0f;
    EXPECT_EQ(net.classify(), 0);
    EXPECT_EQ(net.report, "");
}
