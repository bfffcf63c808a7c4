// Base class of every model, sub-model and block of the dataflow runtime.
#ifndef VARNHOLT_RUNTIME_DFMODEL_H
#define VARNHOLT_RUNTIME_DFMODEL_H

namespace Varnholt {

// Every operation returns true on success. A block that fails writes its own
// sentence with ReportError and returns false; the sentence never reaches
// the AMI message.
class DFModel {
public:
  virtual bool Setup() { return true; }
  virtual bool Initialize() { return true; }
  virtual bool Run() { return true; }
  virtual bool Finalize() { return true; }
  virtual bool CheckParameters() { return true; }
  virtual ~DFModel() = default;

  // Writes text and an end of line (which flushes) to standard error.
  static void ReportError(const char *text);
};

} // namespace Varnholt

#endif
