#pragma once
// Routes the core's messages to modal message boxes with the caption "Quillomat" and OK.
void InstallMessageBoxSink();
