#pragma once
// What the toolkit may take from the environment in a raised run: one whose rights to reach
// ports came with the program's file (port::OsApi::RaisedRun). The C library already ignores
// the dynamic loader's variables in such a run; the toolkit does not, so anyone who can start
// the program could otherwise have it load their own code with those rights.

// Called before the application object exists. In a raised run, removes every variable through
// which the toolkit finds code to load, keeps the OpenGL libraries unloaded and the desktop's
// theme plugin unchosen; the variables that only change the look stay. A plain run keeps its
// whole environment.
void ConfineToolkitLoading(bool raised);
