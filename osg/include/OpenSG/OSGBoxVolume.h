#pragma once

#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGVector.h>

OSG_BEGIN_NAMESPACE

// An axis-aligned bounding box with an empty state and a valid flag (a stale box is
// recomputed by Node::updateVolume).
class BoxVolume {
public:
    // Empty and valid.
    BoxVolume() = default;
    BoxVolume(const Pnt3f& min, const Pnt3f& max) : _min(min), _max(max), _empty(false) {}

    bool isEmpty() const { return _empty; }
    void setEmpty()
    {
        _empty = true;
        _min = Pnt3f();
        _max = Pnt3f();
    }
    bool isValid() const { return _valid; }
    void setValid(bool valid) { _valid = valid; }

    const Pnt3f& getMin() const { return _min; }
    const Pnt3f& getMax() const { return _max; }
    void getBounds(Pnt3f& min, Pnt3f& max) const
    {
        min = _min;
        max = _max;
    }
    Pnt3f getCenter() const;
    // Extent per axis; zero for an empty box.
    Vec3f getSize() const;

    void setBounds(const Pnt3f& min, const Pnt3f& max);
    void extendBy(const Pnt3f& p);
    void extendBy(const BoxVolume& other);
    // Replaces the box by the box around its eight transformed corners.
    void transform(const Matrix& m);
    bool isInside(const Pnt3f& p) const;

private:
    Pnt3f _min;
    Pnt3f _max;
    bool _empty = true;
    bool _valid = true;
};

OSG_END_NAMESPACE
