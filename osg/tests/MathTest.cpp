#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGQuaternion.h>
#include <OpenSG/OSGVector.h>

#include <gtest/gtest.h>

#include <cmath>

OSG_USING_NAMESPACE

namespace
{
TEST(VectorTest, NormalizeLeavesVectorsShorterThanEpsUnchanged)
{
    struct Row
    {
        const char* name;
        Vec3f input;
        Vec3f expected;
    };
    const Row rows[] = {
        {"3-4-5 triangle", Vec3f(3, 4, 0), Vec3f(0.6f, 0.8f, 0)},
        {"negative axis", Vec3f(0, 0, -7), Vec3f(0, 0, -1)},
        {"zero", Vec3f(0, 0, 0), Vec3f(0, 0, 0)},
        {"just below Eps", Vec3f(5e-7f, 5e-7f, 0), Vec3f(5e-7f, 5e-7f, 0)},
        {"just above Eps", Vec3f(2e-6f, 0, 0), Vec3f(1, 0, 0)},
    };
    for (const Row& row : rows)
    {
        Vec3f v = row.input;
        v.normalize();
        for (UInt32 i = 0; i < 3; ++i)
            EXPECT_NEAR(v[i], row.expected[i], 1e-7f) << row.name << " component " << i;
    }
}

TEST(VectorTest, ConstructionAcrossSizesCopiesCommonComponents)
{
    Vec3f v3(1, 2, 3);
    Vec4f v4(v3);
    EXPECT_EQ(v4, Vec4f(1, 2, 3, 0)) << "the extra component is zero-filled";
    Vec4f target(9, 9, 9, 9);
    target.setValue(v3);
    EXPECT_EQ(target, Vec4f(1, 2, 3, 9)) << "setValue leaves the extra component alone";
    Vec2f v2(v3);
    EXPECT_EQ(v2, Vec2f(1, 2));
    EXPECT_EQ(Vec3f(), Vec3f(0, 0, 0));
}

TEST(VectorTest, PointAndVectorArithmetic)
{
    Pnt3f a(1, 2, 3), b(4, 6, 3);
    Vec3f d = b - a;
    EXPECT_EQ(d, Vec3f(3, 4, 0));
    EXPECT_FLOAT_EQ(d.length(), 5.f);
    EXPECT_EQ(a + d, b);
    EXPECT_EQ(b - d, a);
    EXPECT_FLOAT_EQ(a.dist(b), 5.f);
    EXPECT_EQ(Vec3f(1, 0, 0).cross(Vec3f(0, 1, 0)), Vec3f(0, 0, 1));
    EXPECT_FLOAT_EQ(Vec3f(1, 2, 3).dot(Vec3f(4, -5, 6)), 12.f);
    EXPECT_EQ(a.subZero(), Vec3f(1, 2, 3));
    EXPECT_EQ(Vec3f(1, 2, 3).addToZero(), a);
}

TEST(MatrixTest, ValuesAreReadRowByRowAndStoredByColumn)
{
    Matrix m(1, 2, 3, 4,    //
             5, 6, 7, 8,    //
             9, 10, 11, 12, //
             13, 14, 15, 16);
    EXPECT_EQ(m[3][0], 4) << "translation x is the 4th value of the first row";
    EXPECT_EQ(m[3][1], 8);
    EXPECT_EQ(m[3][2], 12);
    EXPECT_EQ(m[0][1], 5) << "m[column][row]";
    const Real32 columnMajor[16] = {1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16};
    for (UInt32 i = 0; i < 16; ++i)
        EXPECT_EQ(m.getValues()[i], columnMajor[i]) << "storage index " << i;
    EXPECT_EQ(Matrix(), Matrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
}

// Setters touch only their own elements.
TEST(MatrixTest, PartialSettersLeaveOtherElementsAlone)
{
    const Matrix full(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    struct Row
    {
        const char* name;
        void (*apply)(Matrix&);
        Matrix expected;
    };
    const Row rows[] = {
        {"setScale writes the diagonal", [](Matrix& m) { m.setScale(-1, -2, -3); },
         Matrix(-1, 2, 3, 4, 5, -2, 7, 8, 9, 10, -3, 12, 13, 14, 15, 16)},
        {"setTranslate writes column 3", [](Matrix& m) { m.setTranslate(-1, -2, -3); },
         Matrix(1, 2, 3, -1, 5, 6, 7, -2, 9, 10, 11, -3, 13, 14, 15, 16)},
        {"setRotate writes the 3x3 part", [](Matrix& m) { m.setRotate(Quaternion()); },
         Matrix(1, 0, 0, 4, 0, 1, 0, 8, 0, 0, 1, 12, 13, 14, 15, 16)},
        {"setTransform(q) drops everything else", [](Matrix& m) { m.setTransform(Quaternion()); }, Matrix()},
        {"setTransform(t) is identity plus translation", [](Matrix& m) { m.setTransform(Vec3f(7, 8, 9)); },
         Matrix(1, 0, 0, 7, 0, 1, 0, 8, 0, 0, 1, 9, 0, 0, 0, 1)},
        {"setTransform(t, q, s) scales the columns",
         [](Matrix& m) { m.setTransform(Vec3f(7, 8, 9), Quaternion(), Vec3f(2, 3, 4)); },
         Matrix(2, 0, 0, 7, 0, 3, 0, 8, 0, 0, 4, 9, 0, 0, 0, 1)},
    };
    for (const Row& row : rows)
    {
        Matrix m = full;
        row.apply(m);
        EXPECT_EQ(m, row.expected) << row.name;
    }
}

// T = translate (1,0,0), R = quarter turn about z. T*R*(1,0,0) = (1,1,0); R*T*(1,0,0) = (0,2,0).
TEST(MatrixTest, MultAndMultLeftOrder)
{
    const Matrix t(1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const Matrix r(0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    Matrix tr = t;
    tr.mult(r);
    Matrix rt = t;
    rt.multLeft(r);
    Pnt3f p1(1, 0, 0), p2(1, 0, 0);
    tr.multMatrixPnt(p1);
    rt.multMatrixPnt(p2);
    EXPECT_EQ(p1, Pnt3f(1, 1, 0));
    EXPECT_EQ(p2, Pnt3f(0, 2, 0));
    Vec3f v(1, 0, 0);
    tr.multMatrixVec(v);
    EXPECT_EQ(v, Vec3f(0, 1, 0)) << "vectors ignore the translation";
}

TEST(MatrixTest, InvertUndoesAndRefusesSingularMatrices)
{
    // Scale by 2, then rotate a quarter turn about x, then translate (1, 2, 3).
    Matrix m(2, 0, 0, 1, 0, 0, -2, 2, 0, 2, 0, 3, 0, 0, 0, 1);
    Matrix inverse;
    ASSERT_TRUE(m.inverse(inverse));
    Matrix product = m;
    product.mult(inverse);
    EXPECT_TRUE(product.equals(Matrix(), 1e-6f));
    Pnt3f p(1, 2, 3);
    inverse.multMatrixPnt(p);
    EXPECT_TRUE(p.equals(Pnt3f(0, 0, 0), 1e-6f));
    EXPECT_FLOAT_EQ(m.det(), 8.f);

    Matrix singular;
    singular.setScale(1, 0, 1);
    const Matrix before = singular;
    EXPECT_FALSE(singular.invert());
    EXPECT_EQ(singular, before);
}

// Expected values worked out by hand (axis * sin(angle/2), cos(angle/2)).
TEST(QuaternionTest, FromTwoVectors)
{
    const Real32 s45 = 0.70710677f;
    const Real32 halfTurnW = -4.371139e-08f; // cos of the float Pi / 2
    struct Row
    {
        const char* name;
        Vec3f from, to;
        Quaternion expected;
        Real32 tolerance;
    };
    const Row rows[] = {
        {"parallel", Vec3f(1, 0, 0), Vec3f(3, 0, 0), Quaternion(0, 0, 0, 1), 0},
        {"quarter turn x to y", Vec3f(1, 0, 0), Vec3f(0, 2, 0), Quaternion(0, 0, s45, s45), 1e-7f},
        {"quarter turn -z to x turns about -y", Vec3f(0, 0, -1), Vec3f(1, 0, 0), Quaternion(0, -s45, 0, s45), 1e-7f},
        {"opposite -z to z turns about -y", Vec3f(0, 0, -1), Vec3f(0, 0, 1), Quaternion(0, -1, 0, halfTurnW), 0},
        {"opposite x to -x falls back to the y helper", Vec3f(1, 0, 0), Vec3f(-1, 0, 0),
         Quaternion(0, 0, 1, halfTurnW), 0},
        {"near parallel within the threshold", Vec3f(1, 0, 0), Vec3f(1, 0.004f, 0), Quaternion(0, 0, 0, 1), 0},
        {"near parallel beyond the threshold", Vec3f(1, 0, 0), Vec3f(1, 0.005f, 0),
         Quaternion(0, 0, 0.0024999766f, 0.99999687f), 1e-5f},
        {"near opposite within the threshold", Vec3f(1, 0, 0), Vec3f(-1, 0.004f, 0),
         Quaternion(0, 0, 1, halfTurnW), 0},
        {"zero target", Vec3f(1, 0, 0), Vec3f(0, 0, 0), Quaternion(0, 0, 0, s45), 1e-7f},
        {"zero source", Vec3f(0, 0, 0), Vec3f(0, 1, 0), Quaternion(0, 0, 0, s45), 1e-7f},
    };
    for (const Row& row : rows)
    {
        Quaternion q(row.from, row.to);
        for (UInt32 i = 0; i < 4; ++i)
        {
            if (row.tolerance == 0)
            {
                EXPECT_FLOAT_EQ(q[i], row.expected[i]) << row.name << " component " << i;
            }
            else
            {
                EXPECT_NEAR(q[i], row.expected[i], row.tolerance) << row.name << " component " << i;
            }
        }
    }
}

// Whatever the pair, the rotation must carry the normalised source onto the target.
TEST(QuaternionTest, FromTwoVectorsRotatesSourceOntoTarget)
{
    const Vec3f dirs[] = {Vec3f(0, 0, -1), Vec3f(1, 2, 3), Vec3f(-1, 0.5f, 0), Vec3f(0, -1, 0),
                          Vec3f(0.3f, -0.2f, 0.9f), Vec3f(0, 0, 1)};
    for (const Vec3f& from : dirs)
        for (const Vec3f& to : dirs)
        {
            Matrix m;
            Quaternion(from, to).getValue(m);
            Vec3f a = from, b = to;
            a.normalize();
            b.normalize();
            Vec3f rotated;
            m.multMatrixVec(a, rotated);
            EXPECT_TRUE(rotated.equals(b, 1e-5f)) << "from " << from << " to " << to << " gave " << rotated;
        }
}

TEST(QuaternionTest, AxisAngle)
{
    struct Row
    {
        const char* name;
        Vec3f axis;
        Real32 angle;
        Quaternion expected;
    };
    const Row rows[] = {
        {"minus quarter turn about x", Vec3f(1, 0, 0), -1.5707963f, Quaternion(-0.70710677f, 0, 0, 0.70710683f)},
        {"axis length does not matter", Vec3f(0, 2, 0), 1.5707964f, Quaternion(0, 0.70710677f, 0, 0.70710677f)},
        {"axis shorter than Eps gives identity", Vec3f(1e-7f, 0, 0), 1.f, Quaternion(0, 0, 0, 1)},
    };
    for (const Row& row : rows)
    {
        Quaternion q(row.axis, row.angle);
        for (UInt32 i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(q[i], row.expected[i]) << row.name << " component " << i;
    }
}

TEST(QuaternionTest, MatrixOfAHalfTurnKeepsTheFloatResidue)
{
    Matrix m;
    Quaternion(Vec3f(0, 0, -1), Vec3f(0, 0, 1)).getValue(m);
    // Diagonal (-1, 1, -1); the off-diagonal terms 2*y*w are about 8.7e-8, not 0.
    EXPECT_FLOAT_EQ(m[0][0], -1.f);
    EXPECT_FLOAT_EQ(m[1][1], 1.f);
    EXPECT_FLOAT_EQ(m[2][2], -1.f);
    EXPECT_NEAR(m[2][0], 2.f * -1.f * -4.371139e-08f, 1e-12f);
    EXPECT_NE(m[2][0], 0.f);
    EXPECT_EQ(m[3][3], 1.f);
}

TEST(QuaternionTest, ZeroVectorRotationGivesTheIdentityMatrix)
{
    Matrix m;
    Quaternion(Vec3f(1, 0, 0), Vec3f(0, 0, 0)).getValue(m);
    EXPECT_EQ(m, Matrix());
}

TEST(QuaternionTest, RoundTripThroughMatrix)
{
    const Quaternion cases[] = {Quaternion(Vec3f(1, 2, 3), 0.7f), Quaternion(Vec3f(0, 1, 0), 3.0f),
                                Quaternion(Vec3f(-1, 0, 0.2f), -2.5f), Quaternion()};
    for (const Quaternion& q : cases)
    {
        Matrix m;
        q.getValue(m);
        Quaternion back(m);
        // q and -q are the same rotation.
        const Real32 sign = (back.w() * q.w() + back.x() * q.x() + back.y() * q.y() + back.z() * q.z()) < 0 ? -1.f : 1.f;
        for (UInt32 i = 0; i < 4; ++i)
            EXPECT_NEAR(back[i] * sign, q[i], 1e-6f) << q << " component " << i;
    }
}
} // namespace
