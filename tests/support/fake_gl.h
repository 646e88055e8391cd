// A recording stand-in for the GL, GLU and GLUT functions the viewer calls. Test programs link it
// in place of the real libraries: every call is logged with its arguments and the modelview matrix
// in force, and the matrix stacks are kept the way GL keeps them.
#pragma once

#include <GL/glut.h>

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fakegl {

using Matrix = std::array<double, 16>; // column-major, as GL stores it

struct Call {
    std::string_view name;
    std::array<double, 6> args{}; // enums as numbers; an fv call's pointer becomes its four values
    std::size_t argCount = 0;
    std::size_t modelview = 0; // index for modelviewAt: the modelview matrix when the call was made
    int modelviewDepth = 0;    // entries on the modelview stack when the call was made
};

struct Callbacks {
    void (*display)() = nullptr;
    void (*mouse)(int, int, int, int) = nullptr;
    void (*motion)(int, int) = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
};

// Forgets all calls and puts the GL state back as a new context has it.
void reset();

const std::vector<Call> &calls();
std::size_t count(std::string_view name);
const Matrix &modelviewAt(const Call &call);
const Matrix &currentMatrix(GLenum mode);
int modelviewDepth();
int maxModelviewDepth();
// A pop of the last entry or a push past GL's guaranteed 32 entries.
bool stackFault();
GLenum polygonMode();
const Callbacks &callbacks();
const std::string &windowTitle();

// With recording off every call does nothing at all, as a driver that draws nothing would.
void setRecording(bool on);

// Called with each call as it is recorded.
void onCall(std::function<void(const Call &)> hook);

Matrix multiply(const Matrix &a, const Matrix &b);
Matrix identity();
// Where the matrix takes a point given in its own frame.
std::array<double, 3> transformPoint(const Matrix &m, double x, double y, double z);
std::array<double, 3> transformDirection(const Matrix &m, double x, double y, double z);

} // namespace fakegl
