#include "Unit52.h"

Traspr1* raspr1 = nullptr;

Traspr1::Traspr1(TComponent* AOwner) : TForm(AOwner) {}

void Traspr1::Register() { RegisterFormClass<Traspr1>("Traspr1"); }
