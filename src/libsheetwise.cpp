// The shared library has no code of its own: it carries the area libraries whole.
namespace sw {
const char* libraryVersion() { return SW_VERSION_STRING; }
}  // namespace sw
