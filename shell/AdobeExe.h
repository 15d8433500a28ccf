#pragma once

// Works out the external viewer's program from the settings: Prefer.AdobeExe from
// Prefer.AdobeReg (a registry path, else the text itself), and Prefer.AdobeOK, which is
// true when that program is a regular file. Returns Prefer.AdobeOK.
//
// The text must begin with a double quote: the program is what follows up to the next single
// double quote (two in a row stand for one), and the rest is dropped. An absolute path is
// taken as it is; a bare name is looked up on PATH as program starts are; any other relative
// name gives no program, since the viewer's current folder is whoever started it.
bool FindAdobeExe();
