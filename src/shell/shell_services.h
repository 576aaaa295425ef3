#pragma once
// Registers the services the shell answers for the subsystems below it (the command environment,
// the toolkit's and the document model's questions, the instance receiver, hyperlinks to
// documents, the progress of files), and puts their stand-ins back.
namespace qv {

void RegisterShellServices();
void UnregisterShellServices();

}  // namespace qv
