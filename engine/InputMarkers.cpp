#include "engine/InputMarkers.h"

namespace
{

constexpr InputMarker kInputMarkers[] = {
    {L"%PROMPT_TEXT={", L"}%", L"%PROMPT_TEXT={}%"},
};

constexpr int kInputMarkerCount = static_cast<int>(sizeof(kInputMarkers) / sizeof(kInputMarkers[0]));

} // namespace

int GetInputMarkerCount()
{
    return kInputMarkerCount;
}

const InputMarker* GetInputMarker(int index)
{
    if (index < 0 || index >= kInputMarkerCount) {
        return nullptr;
    }
    return &kInputMarkers[index];
}
