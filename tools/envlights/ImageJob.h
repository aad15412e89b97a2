#pragma once

// The work on one image of a run: read it (or make the built-in sky), prepare it, make its
// lights by the method chosen, and draw its pictures; everything it finds stays here until the
// run writes it out, warnings included, so that jobs may run on several threads and their
// results still come out in input order. A physical job touches nothing shared; a node job
// uses the run's one LightExtractor and must run on the thread that loaded it.

#include "CommandLine.h"
#include "EnvironmentReport.h"
#include "InputList.h"
#include "PhaseTimer.h"
#include "PhysicalReport.h"

#include <OpenSG/OSGImage.h>

#include <string>
#include <vector>

namespace envlights {

class LightExtractor;

class ImageJob {
public:
    /// `input.path` empty: the built-in sky. An input with an error fails with it when run.
    explicit ImageJob(InputList::Entry input);

    /// Does the work; `extractor` is the loaded node pool for the node method, else unused.
    /// Up to `threads` threads read the pixels of the physical method: more than 1 only when
    /// this is the run's one worker. Never throws: a failure, an allocation's included, becomes
    /// error().
    void run(const Options& options, LightExtractor* extractor, int threads = 1);

    /// The name the image is reported under: its path, or builtInSkyName.
    const std::string& name() const { return _name; }
    bool failed() const { return !_error.empty(); }
    /// One line starting with the image's name (without "envlights: ").
    const std::string& error() const { return _error; }
    /// Lines for standard error, in the order they arose, without "envlights: ".
    const std::vector<std::string>& warnings() const { return _warnings; }

    const PhysicalReport& physical() const { return _physical; }
    const EnvironmentReport& node() const { return _node; }
    const std::string& overlayPng() const { return _overlayPng; }
    const std::string& previewPng() const { return _previewPng; }
    const PhaseTimer& timer() const { return _timer; }

    /// Gives back the memory of the pictures once they are handed on.
    void dropPictures();

private:
    bool work(const Options& options, LightExtractor* extractor, int threads);
    bool decode(osg::ImagePtr& image);
    bool prepare(osg::ImagePtr image, double rotateDeg);
    bool extractPhysical(osg::ImagePtr image, const Options& options, int threads);

    std::string _source;
    std::string _name;
    std::string _error;
    bool _valuesFinite = false; ///< the file's format cannot hold NaN or infinity
    std::vector<std::string> _warnings;
    PhysicalReport _physical;
    EnvironmentReport _node;
    std::string _overlayPng;
    std::string _previewPng;
    PhaseTimer _timer;
};

} // namespace envlights
