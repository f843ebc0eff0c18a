// The engine's positions after many steps against values computed from the equations
// of motion alone by trajectory.py (same operations, same order, IEEE double). A change
// in the order of one operation can leave a run unchanged at the early pins, or part
// from the pinned run and join it again; at five million steps it shows in both runs,
// and forty million steps take the unstable run past its break-up.
#include "EngineFixture.h"

namespace {

struct Pin {
    bool stable;
    long step;
    double values[8];  // x, y, x1, y1, x2, y2, vx, vy2
};

const Pin kPins[] = {
    {true, 1, {-0x1.db920ca51fc45p+25, -0x1.927fe1d627f76p+10, 0x1.db8f88a51fc45p+25, 0x1.92801e29d808bp+10, 0x1.4200000000001p+10, 0x1.1d56dffff8759p+29, -0x1.9c21dd9179647p+3, -0x1.34dfae6cddb05p-14}},
    {true, 1000, {-0x1.e05046b1e06fep+25, -0x1.88cbeea0f3c93p+20, 0x1.d67ca765ffa0bp+25, 0x1.893f1cc3b1fa3p+20, 0x1.3a73e97c19fa9p+20, 0x1.1d56a668eea02p+29, -0x1.8072d69c12ca8p+3, -0x1.2da364cded438p-4}},
    {true, 200000, {-0x1.3b04405e7883ep+27, 0x1.2f944d7da8f1cp+26, -0x1.25918f938851bp+26, -0x1.b70222a78740ap+22, 0x1.cdcd08283cb74p+27, 0x1.f5a4b52b33d50p+28, -0x1.0e241b520aa55p+5, -0x1.bc9b94af3a064p+3}},
    {true, 5000000, {-0x1.b9678dc0b193ep+26, 0x1.3161db7e684edp+26, -0x1.210625def7781p+26, -0x1.09e6f8438a5a9p+25, 0x1.6d36d9cfd0256p+27, 0x1.07c914146bfb8p+29, -0x1.5867233db5909p+5, -0x1.6a4aa3efd7c2cp+3}},
    {false, 1, {-0x1.1d55836c3075dp+26, 0x1.ee39af5909261p+26, 0x1.1d56dfff72684p+27, -0x1.9280000000001p+10, -0x1.1d583c92b45acp+26, -0x1.ee381cd909261p+26, 0x1.be2dd67374dbap+4, 0x1.019ad383bd7c9p+4}},
    {false, 1000, {-0x1.18010e268ac7ap+26, 0x1.f143b34be0637p+26, 0x1.1d52a6a9d6652p+27, -0x1.890f0ff769ff1p+20, -0x1.22a43f2d22019p+26, -0x1.eb1f770c02ba9p+26, 0x1.c0ea7cec47c66p+4, 0x1.065fffe264595p+4}},
    {false, 200000, {0x1.1e0b67e8e2682p+27, -0x1.d8873d5076906p+22, -0x1.379ef3261494dp+26, -0x1.e0ad5c7d3bbedp+26, -0x1.0477dcabb016bp+26, 0x1.fe35d0524322bp+26, -0x1.964f462e3a8dap+0, 0x1.d4a27597b2fe5p+3}},
    {false, 5000000, {-0x1.8120efb88d8bdp+27, 0x1.c4bda36c904fap+28, 0x1.4bf1f378756a7p+25, -0x1.207e391dd54dbp+28, 0x1.2e2472da73931p+27, -0x1.487ed49d7501ap+27, 0x1.8df697149dcd5p+3, -0x1.b3937cfc59b0ap+4}},
    {false, 40000000, {0x1.9bf3dafdd57c8p+30, 0x1.60909bd341bf6p+31, 0x1.89ba08eacd7a7p+30, 0x1.57c546d8d46aep+31, -0x1.92d6f1f44b9b9p+31, -0x1.5c2af156069d8p+32, 0x1.1e5df4df3a701p+4, -0x1.48e889b1987ffp+4}},
};

class TrajectoryTest : public EngineTest {
protected:
    void ExpectPins(bool stable) {
        long done = 0;
        Run(stable, 0);
        for (const Pin& pin : kPins) {
            if (pin.stable != stable) continue;
            RunMore(pin.step - done);
            done = pin.step;
            const double got[] = {V::x, V::y, V::x1, V::y1, V::x2, V::y2, V::vx, V::vy2};
            for (int i = 0; i < 8; ++i) EXPECT_EQ(got[i], pin.values[i]) << "step " << pin.step << " value " << i;
        }
    }
};

TEST_F(TrajectoryTest, TheStableRunMatchesTheIndependentComputationBitForBit) { ExpectPins(true); }

TEST_F(TrajectoryTest, TheUnstableRunMatchesTheIndependentComputationBitForBit) { ExpectPins(false); }

TEST_F(EngineTest, TheSameInputsGiveTheSameRun) {
    SetField("dtField", "137.5");
    SetField("SpeedField", "83");
    Run(false, 5000);
    const double first[] = {V::x, V::y1, V::vy2, V::t};  // tt carries over, by design
    Run(false, 5000);
    const double second[] = {V::x, V::y1, V::vy2, V::t};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(first[i], second[i]);
}

}  // namespace
