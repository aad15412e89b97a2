#pragma once

#include <morvekLightingNodePool/LightProc.h>
#include <morvekSampling/EnvironmentCut.h>
#include <morvekSampling/ImageRegion.h>
#include <morvekSampling/SummedAreaTable.h>

#include <OpenSG/OSGImage.h>
#include <OpenSG/OSGVector.h>

#include <cstdint>
#include <vector>

namespace Morvek {

class EnvironmentLight;

// Processor of EnvironmentLight. It has no light core of its own: from the lat-long image of
// the node's `envTexture` it builds summed-area tables of colour and energy, cuts the image by
// a median cut into regions of about equal energy, ranks them by energy density and turns the
// densest `numLights` of them into DirectionalLight nodes in the node's `_lights` field, each
// shining along the direction of its region's energy centroid, coloured by its summed colour
// scaled so that its largest component is 1/k for k lights.
//
// The set is rebuilt whole when `envTexture`, `numLights` or `global` is reported changed (or
// the node's first-update or re-attached status flag is set), never on other changes.
//
// The tables, the cut and the pixel decoding are the sampling library's; this processor reads
// the texture, asks for tables, cuts them and makes the lights.
class EnvironmentLightProc : public LightProc, public EnvironmentCut {
public:
    using ImageRegion = Morvek::ImageRegion;

    ~EnvironmentLightProc() override;

    EnvironmentLight* getEnvironmentLight() const;

    // The leaves of the last cut and the size of its tables (see EnvironmentCut).
    const std::vector<ImageRegion>& regions() const override { return _regions; }
    std::uint16_t tableWidth() const override { return _width; }
    std::uint16_t tableHeight() const override { return _height; }

protected:
    friend class EnvironmentLight;

    EnvironmentLightProc(NodeType& type, Node& node);

    void initialize(const double& time) override;
    void attach(const double& time) override;
    void detach(const double& time) override;
    void shutdown(const double& time) override;
    // Rebuilds the generated lights when the mask calls for it, then the base part.
    void nodeChanged(const double& time, const BitVector<unsigned long long>& mask) override;
    // Nothing: the processor has no OpenSG object of its own.
    void updateOSGFieldValues(const BitVector<unsigned long long>& mask) override;

    // Colour of pixel (x, y) of the image's first mipmap level, frame and side; (0, 0, 0) with
    // one fatal log line for an unsupported data type, and (0, 0, 0) for a pixel format
    // outside the table or a pixel outside the image data.
    osg::Vec3f get_color(const osg::ImagePtr& image, int x, int y);
    // Components per pixel of a pixel format; 0 for a format outside the table.
    std::uint64_t num_channels(unsigned int pixelFormat);
    // Builds both tables from the image (buffers of an unchanged size are reused). An image
    // above 65535 pixels on a side, or with less data than its size implies, leaves no tables
    // (null, sizes 0) with one fatal log line; a pixel format outside the table gives one
    // fatal log line and tables of zeros; an unsupported data type logs once per pixel and
    // gives tables of zeros.
    void createSAT(osg::ImagePtr image);
    // Table entries of (x, y); 0 when x < 0 or y < 0 (or without tables).
    osg::Vec3f sampleColorSAT(int x, int y);
    float sampleEnergySAT(int x, int y);

    // Appends the leaves of the cut of `region` to _regions (see MedianCut).
    void splitRegion(ImageRegion& region, unsigned short depth);
    // The region's per-axis energy median (see MedianCut).
    osg::Vec2us computeEnergyCentroid(ImageRegion& region);
    // Direction of image point (x, y) of the tables' lat-long image (see MedianCut).
    osg::Vec3f directionFromImageCoord(unsigned short x, unsigned short y);

    SummedAreaTable _energySAT; // _width * _height entries, or null
    SummedAreaTable _colorSAT;  // 3 * _width * _height entries, red, green, blue; or null
    std::uint16_t _width;
    std::uint16_t _height;
    std::vector<ImageRegion> _regions;

private:
    // Holds no tables: both null, sizes 0.
    void releaseTables();
    // Generated lights from the current tables; returns nothing, appends to `_lights`.
    void generateLights(int numLights);
    // Asks for the entries the centroid and the colour of a leaf read (see
    // MedianCut::prefetchSearches).
    void prefetchLeaf(const ImageRegion& region) const;
};

} // namespace Morvek
