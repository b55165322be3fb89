#pragma once

// For tests only: the pause of each of the wait's steps, normally 100 ms, so that the nine
// attempts of a wait nobody answers run in a moment. The steps, the attempts and every text
// stay as users get them. A negative value restores the normal pause. Front ends never call it.
void DefinirPausaPassoReducaoZ(int ms);
