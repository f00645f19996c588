#pragma once

// Applies what the listeners recorded of the outputs since the last time: surfaces
// made, sized and dropped, the layout worked out anew, the picture grown, and what
// changed shown again. Called after every dispatch; nothing to apply costs nothing.
void applyOutputChanges();
