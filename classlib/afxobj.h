// The root of the library's object classes; portable, so the pure logic of
// the controls can derive from it in both builds.
#pragma once

class CObject {
public:
    virtual ~CObject() {}

protected:
    CObject() {}

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};
