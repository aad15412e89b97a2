#pragma once

// While alive, keeps the OpenSG log (the libraries' and the node pools' warnings) out of stderr
// and hands its lines on as envlights lines: relay() writes what was logged so far, each line
// through MessageLine; the destructor relays the rest and gives the log back its type and text.

#include <OpenSG/OSGLog.h>

#include <ostream>
#include <string>

namespace envlights {

class LogRelay {
public:
    explicit LogRelay(std::ostream& out);
    ~LogRelay();
    LogRelay(const LogRelay&) = delete;
    LogRelay& operator=(const LogRelay&) = delete;

    void relay();

private:
    std::ostream& _out;
    osg::LogType _previousType;
    std::string _previousText;
    std::string _partial; // a line logged without its newline yet
};

} // namespace envlights
