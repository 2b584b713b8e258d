#pragma once
// Input markers: the parts of a phrase text where the user is asked for a text before the phrase is
// inserted ("%PROMPT_TEXT={default}%").

struct InputMarker
{
    const wchar_t* start; // "%PROMPT_TEXT={"
    const wchar_t* end;   // "}%"
    const wchar_t* name;  // "%PROMPT_TEXT={}%", the marker's entry in the macro table
};

// Number of input markers.
int GetInputMarkerCount();
// The marker at `index`, or null outside the list.
const InputMarker* GetInputMarker(int index);
