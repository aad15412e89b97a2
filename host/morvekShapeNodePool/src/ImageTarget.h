#pragma once

// Where an image file's reader puts its pixels: an OpenSG image of the declared size, RGB, its
// rows bottom first as OpenSG keeps them, so that a reader writes every picture row straight
// into its final place and nothing is copied afterwards.

#include <OpenSG/OSGImage.h>

#include <string>

namespace Morvek {

class ImageTarget {
public:
    explicit ImageTarget(std::string path) : _path(std::move(path)) {}
    ~ImageTarget();
    ImageTarget(const ImageTarget&) = delete;
    ImageTarget& operator=(const ImageTarget&) = delete;

    const std::string& path() const { return _path; }

    // Refuses a size without pixels, wider or taller than maxImageFileSide or with more than
    // maxImageFilePixels, with one line in `error`; costs nothing but the check, so readers
    // call it with the header's size before anything is allocated.
    bool checkSize(long long width, long long height, std::string& error) const;
    // Checks the size, then makes the image (its pixels zero) with OSG_FLOAT32_IMAGEDATA or
    // OSG_UINT8_IMAGEDATA components.
    bool allocate(int width, int height, osg::Int32 dataType, std::string& error);

    int width() const { return _width; }
    int height() const { return _height; }
    // Bytes of one row, and the first byte of picture row `row` (0 = the top row).
    std::size_t rowBytes() const { return _rowBytes; }
    unsigned char* pictureRow(int row);

    // Hands the image over (reference count 0, as a fresh OpenSG container); NullFC if none.
    osg::ImagePtr release();

private:
    std::string _path;
    osg::ImagePtr _image = osg::NullFC;
    int _width = 0;
    int _height = 0;
    std::size_t _rowBytes = 0;
};

} // namespace Morvek
