#include <OpenSG/OSGBoxVolume.h>

#include <OpenSG/OSGBaseFunctions.h>

OSG_BEGIN_NAMESPACE

Pnt3f BoxVolume::getCenter() const
{
    if (_empty)
        return Pnt3f();
    return Pnt3f((_min[0] + _max[0]) * 0.5f, (_min[1] + _max[1]) * 0.5f,
                 (_min[2] + _max[2]) * 0.5f);
}

Vec3f BoxVolume::getSize() const
{
    if (_empty)
        return Vec3f();
    return _max - _min;
}

void BoxVolume::setBounds(const Pnt3f& min, const Pnt3f& max)
{
    _min = min;
    _max = max;
    _empty = false;
}

void BoxVolume::extendBy(const Pnt3f& p)
{
    if (_empty) {
        setBounds(p, p);
        return;
    }
    for (UInt32 i = 0; i < 3; ++i) {
        _min[i] = osgMin(_min[i], p[i]);
        _max[i] = osgMax(_max[i], p[i]);
    }
}

void BoxVolume::extendBy(const BoxVolume& other)
{
    if (other._empty)
        return;
    extendBy(other._min);
    extendBy(other._max);
}

void BoxVolume::transform(const Matrix& m)
{
    if (_empty)
        return;
    Pnt3f lo = _min, hi = _max;
    _empty = true;
    for (UInt32 corner = 0; corner < 8; ++corner) {
        Pnt3f p((corner & 1) ? hi[0] : lo[0], (corner & 2) ? hi[1] : lo[1],
                (corner & 4) ? hi[2] : lo[2]);
        m.multFullMatrixPnt(p);
        extendBy(p);
    }
}

bool BoxVolume::isInside(const Pnt3f& p) const
{
    if (_empty)
        return false;
    for (UInt32 i = 0; i < 3; ++i)
        if (p[i] < _min[i] || p[i] > _max[i])
            return false;
    return true;
}

OSG_END_NAMESPACE
