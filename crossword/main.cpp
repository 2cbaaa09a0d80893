#include <windows.h>

#include "Form1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Form1 form;
  return crossrt::Run(form);
}
