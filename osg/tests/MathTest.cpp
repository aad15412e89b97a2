#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGQuaternion.h>
#include <OpenSG/OSGVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

OSG_USING_NAMESPACE

namespace {
// Values are given row by row and stored by column, as OpenGL reads them.
TEST(MatrixTest, ValuesAreReadRowByRowAndStoredByColumn)
{
    Matrix m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(m[3][0], 4) << "translation x is the 4th value of the first row";
    EXPECT_EQ(m[0][1], 5) << "m[column][row]";
    const Real32 columnMajor[16] = {1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16};
    for (UInt32 i = 0; i < 16; ++i)
        EXPECT_EQ(m.getValues()[i], columnMajor[i]) << "storage index " << i;
    EXPECT_EQ(Matrix(), Matrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
}

TEST(MatrixTest, SettersTouchOnlyTheirOwnElements)
{
    const Matrix full(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const std::tuple<const char*, void (*)(Matrix&), Matrix> rows[] = {
        {"setScale", [](Matrix& m) { m.setScale(-1, -2, -3); },
         Matrix(-1, 2, 3, 4, 5, -2, 7, 8, 9, 10, -3, 12, 13, 14, 15, 16)},
        {"setTranslate", [](Matrix& m) { m.setTranslate(-1, -2, -3); },
         Matrix(1, 2, 3, -1, 5, 6, 7, -2, 9, 10, 11, -3, 13, 14, 15, 16)},
        {"setRotate", [](Matrix& m) { m.setRotate(Quaternion()); },
         Matrix(1, 0, 0, 4, 0, 1, 0, 8, 0, 0, 1, 12, 13, 14, 15, 16)},
        {"setTransform(q)", [](Matrix& m) { m.setTransform(Quaternion()); }, Matrix()},
        {"setTransform(t)", [](Matrix& m) { m.setTransform(Vec3f(7, 8, 9)); },
         Matrix(1, 0, 0, 7, 0, 1, 0, 8, 0, 0, 1, 9, 0, 0, 0, 1)},
        {"setTransform(t, q, s)",
         [](Matrix& m) { m.setTransform(Vec3f(7, 8, 9), Quaternion(), Vec3f(2, 3, 4)); },
         Matrix(2, 0, 0, 7, 0, 3, 0, 8, 0, 0, 4, 9, 0, 0, 0, 1)},
    };
    for (const auto& [name, apply, expected] : rows) {
        Matrix m = full;
        apply(m);
        EXPECT_EQ(m, expected) << name;
    }
}

// Expected values worked out by hand (axis * sin(angle/2), cos(angle/2)).
TEST(QuaternionTest, FromTwoVectors)
{
    const Real32 s45 = 0.70710677f;
    const Real32 halfTurnW = -4.371139e-08f; // cos of the float Pi / 2
    struct Row {
        const char* name;
        Vec3f from, to;
        Quaternion expected;
        Real32 tolerance;
    };
    const Row rows[] = {
        {"parallel", Vec3f(1, 0, 0), Vec3f(3, 0, 0), Quaternion(0, 0, 0, 1), 0},
        {"-z to x", Vec3f(0, 0, -1), Vec3f(1, 0, 0), Quaternion(0, -s45, 0, s45), 1e-7f},
        {"-z to z turns about -y", Vec3f(0, 0, -1), Vec3f(0, 0, 1), Quaternion(0, -1, 0, halfTurnW),
         0},
        {"x to -x falls back to the y helper", Vec3f(1, 0, 0), Vec3f(-1, 0, 0),
         Quaternion(0, 0, 1, halfTurnW), 0},
        {"near parallel within the threshold", Vec3f(1, 0, 0), Vec3f(1, 0.004f, 0),
         Quaternion(0, 0, 0, 1), 0},
        {"near parallel beyond it", Vec3f(1, 0, 0), Vec3f(1, 0.005f, 0),
         Quaternion(0, 0, 0.0024999766f, 0.99999687f), 1e-5f},
        {"near opposite within the threshold", Vec3f(1, 0, 0), Vec3f(-1, 0.004f, 0),
         Quaternion(0, 0, 1, halfTurnW), 0},
        {"zero target", Vec3f(1, 0, 0), Vec3f(0, 0, 0), Quaternion(0, 0, 0, s45), 1e-7f},
    };
    for (const Row& row : rows) {
        for (UInt32 i = 0; i < 4; ++i) {
            const Real32 q = Quaternion(row.from, row.to)[i];
            if (row.tolerance == 0)
                EXPECT_FLOAT_EQ(q, row.expected[i]) << row.name << " component " << i;
            else
                EXPECT_NEAR(q, row.expected[i], row.tolerance) << row.name << " component " << i;
        }
    }

    // A half turn's matrix keeps the float residue: 2*y*w is about 8.7e-8, not 0.
    Matrix m;
    Quaternion(Vec3f(0, 0, -1), Vec3f(0, 0, 1)).getValue(m);
    EXPECT_FLOAT_EQ(m[0][0], -1.f);
    EXPECT_NEAR(m[2][0], 2.f * -1.f * halfTurnW, 1e-12f);
    EXPECT_NE(m[2][0], 0.f);
    Quaternion(Vec3f(1, 0, 0), Vec3f(0, 0, 0)).getValue(m);
    EXPECT_EQ(m, Matrix()) << "a zero vector gives the identity";
}

// Whatever the pair, the rotation must carry the normalised source onto the target.
TEST(QuaternionTest, FromTwoVectorsRotatesSourceOntoTarget)
{
    const Vec3f dirs[] = {Vec3f(0, 0, -1), Vec3f(1, 2, 3),           Vec3f(-1, 0.5f, 0),
                          Vec3f(0, -1, 0), Vec3f(0.3f, -0.2f, 0.9f), Vec3f(0, 0, 1)};
    for (const Vec3f& from : dirs)
        for (const Vec3f& to : dirs) {
            const Quaternion q(from, to);
            Matrix m;
            q.getValue(m);
            Vec3f a = from, b = to, rotated;
            a.normalize();
            b.normalize();
            m.multMatrixVec(a, rotated);
            EXPECT_TRUE(rotated.equals(b, 1e-5f)) << from << " to " << to << " gave " << rotated;
        }
}
} // namespace
