// What the lab's table (lab/table.js) restates of GL, as the GL layer has it: the enumerants'
// values (GL/gl.h), GL's ranges, and the initial values of the calls the program does not make
// (glState, as gl/state.cpp starts it). The site's build runs it under Node and fails where the
// table says otherwise (lab/facts.mjs).
#include "gl/internal.h"

#include <cstdio>
#include <initializer_list>
#include <string>

namespace {

struct Name {
    const char *name;
    GLenum value;
};
#define GL_NAME(name)                                                                              \
    {                                                                                              \
#name, name                                                                                \
    }
constexpr Name NAMES[] = {
    GL_NAME(GL_AMBIENT),
    GL_NAME(GL_DIFFUSE),
    GL_NAME(GL_SPECULAR),
    GL_NAME(GL_POSITION),
    GL_NAME(GL_SPOT_DIRECTION),
    GL_NAME(GL_SPOT_EXPONENT),
    GL_NAME(GL_SPOT_CUTOFF),
    GL_NAME(GL_CONSTANT_ATTENUATION),
    GL_NAME(GL_LINEAR_ATTENUATION),
    GL_NAME(GL_QUADRATIC_ATTENUATION),
    GL_NAME(GL_EMISSION),
    GL_NAME(GL_SHININESS),
    GL_NAME(GL_LIGHT_MODEL_LOCAL_VIEWER),
    GL_NAME(GL_LIGHT_MODEL_TWO_SIDE),
    GL_NAME(GL_LIGHT_MODEL_AMBIENT),
    GL_NAME(GL_FLAT),
    GL_NAME(GL_SMOOTH),
};
#undef GL_NAME

std::string list(std::initializer_list<double> values)
{
    std::string text = "[";
    for (const double v : values) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%.9g", text.size() > 1 ? "," : "", v);
        text += number;
    }
    return text + "]";
}

// A light's initial numbers, by the pname that sets each.
void printLight(const LightSource &light)
{
    const auto four = [](const GLfloat *v) { return list({v[0], v[1], v[2], v[3]}); };
    const GLfloat *d = light.spotDirection;
    std::printf("{\"GL_POSITION\":%s", four(light.position).c_str());
    std::printf(",\"GL_AMBIENT\":%s", four(light.ambient).c_str());
    std::printf(",\"GL_DIFFUSE\":%s", four(light.diffuse).c_str());
    std::printf(",\"GL_SPECULAR\":%s", four(light.specular).c_str());
    std::printf(",\"GL_SPOT_DIRECTION\":%s", list({d[0], d[1], d[2]}).c_str());
    std::printf(",\"GL_SPOT_EXPONENT\":%s", list({light.spotExponent}).c_str());
    std::printf(",\"GL_SPOT_CUTOFF\":%s", list({light.spotCutoff}).c_str());
    std::printf(",\"GL_CONSTANT_ATTENUATION\":%s", list({light.attenuation[0]}).c_str());
    std::printf(",\"GL_LINEAR_ATTENUATION\":%s", list({light.attenuation[1]}).c_str());
    std::printf(",\"GL_QUADRATIC_ATTENUATION\":%s", list({light.attenuation[2]}).c_str());
    std::printf(",\"enabled\":%s}", list({light.enabled ? 1.0 : 0.0}).c_str());
}

} // namespace

int main()
{
    const LightingState &lighting = glState.lighting;
    const GLfloat *ambient = lighting.sceneAmbient;
    std::printf("{\"names\":{");
    for (const Name &n : NAMES) {
        std::printf("%s\"%s\":%u", &n == NAMES ? "" : ",", n.name, n.value);
    }
    std::printf("},\"initial\":{");
    std::printf("\"GL_LIGHT_MODEL_AMBIENT\":%s",
                list({ambient[0], ambient[1], ambient[2], ambient[3]}).c_str());
    std::printf(",\"GL_LIGHT_MODEL_LOCAL_VIEWER\":%s",
                list({lighting.localViewer ? 1.0 : 0.0}).c_str());
    std::printf("},\"lights\":[");
    for (int l = 0; l < LIGHTS; ++l) {
        std::printf(l > 0 ? "," : "");
        printLight(lighting.lights[l]);
    }
    std::printf("],\"ranges\":{\"exponent\":%s,\"cutoff\":%s,\"noSpotlight\":%.9g}}\n",
                list({0.0, MAX_EXPONENT}).c_str(), list({0.0, MAX_SPOT_CUTOFF}).c_str(),
                double(NO_SPOTLIGHT));
    return 0;
}
