#pragma once

// Pick one of four variants with rand() and have the host start
// "Sounds\<kind><variant>.wav", kind "attach" or "detach", the path relative to the
// current directory.
void playAttachSound();
void playDetachSound();
