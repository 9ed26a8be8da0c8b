// Raw byte input and output, the part of a stream that record formats build on.
#pragma once

namespace torvik_io {

class IDataInOut {
public:
    // Reads up to `length` bytes; the number read, or -1 once the end was reached.
    virtual int read(void* buffer, int length) = 0;
    // Writes exactly `length` bytes or throws.
    virtual void write(void* buffer, int length) = 0;

protected:
    virtual ~IDataInOut() = default;
};

}  // namespace torvik_io
