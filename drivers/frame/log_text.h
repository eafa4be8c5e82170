#pragma once
// Every line the drivers write to the renderer's log starts with this prefix.

#define KORVANE_LOG_PREFIX "[korvane_disp] "

// The one error line of the drivers; %s is the reason.
#define KORVANE_ERROR_FORMAT KORVANE_LOG_PREFIX "Error while sending image buffer(s) to python: %s"
