#pragma once

// Named events shared between our processes: created with the open security
// attributes (everyone may open them), with default security when those
// cannot be built or refused.

#include <windows.h>

// CreateEventW as above. `alreadyExisted` (may be null) tells whether the
// event existed before the call. Null on failure.
HANDLE CreateOpenNamedEvent(LPCWSTR name, bool manualReset, bool initialState,
                            bool* alreadyExisted = nullptr);
