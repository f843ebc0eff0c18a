#include "engine/Pictures.h"

#include <cstdint>

#include "framework/Application.h"

namespace {

// One accessor's statics: the cached picture and the first-call flag.
struct PictureCache {
    fw::Ref<fw::Picture> pic;
    std::uint8_t initialised = 0;
};

// The folder "Resources" beside the folder that holds the executable; may be nil.
fw::Ref<fw::FolderItem> ResourcesFolder() {
    fw::Ref<fw::FolderItem> exe = fw::NonNil(fw::App()).ExecutableFile();
    fw::Ref<fw::FolderItem> exeFolder = fw::NonNil(exe).Parent();
    fw::Ref<fw::FolderItem> above = fw::NonNil(exeFolder).Parent();
    return fw::NonNil(above).Child("Resources");
}

// Loads at the first call that succeeds; a failure is not remembered. Once loaded, a
// call is a test and the cached reference itself: no count is taken, on a path that
// runs six times a frame.
const fw::Ref<fw::Picture>& Load(PictureCache& cache, const char* fileName) {
    if (!(cache.initialised & 1)) {
        cache.initialised = 1;
        cache.pic = nullptr;
    }
    if (!cache.pic) {
        fw::Ref<fw::FolderItem> resources = ResourcesFolder();
        if (resources) cache.pic = fw::NonNil(resources->Child(fileName)).OpenAsPicture();
    }
    return cache.pic;
}

}  // namespace

const fw::Ref<fw::Picture>& AR1() {
    static PictureCache cache;
    return Load(cache, "AR1.PICT");
}

const fw::Ref<fw::Picture>& AR2() {
    static PictureCache cache;
    return Load(cache, "AR2.PICT");
}

const fw::Ref<fw::Picture>& AR3() {
    static PictureCache cache;
    return Load(cache, "AR3.PICT");
}

const fw::Ref<fw::Picture>& Blank() {
    static PictureCache cache;
    return Load(cache, "Blank.PICT");
}
