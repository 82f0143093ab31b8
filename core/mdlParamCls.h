#pragma once

// Blanks RecordBuffer and CurrentValues; headers and CurrentIndex stay.
void ClearParams();
