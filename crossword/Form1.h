// The crossword's one form: seven words across in rows of one-letter cells,
// the eighth reading down the column where the rows line up.
#pragma once

#include <vector>

#include "Runtime.h"

class Form1 : public crossrt::Form {
 public:
  Form1();

  crossrt::Label& lblCapt;
  crossrt::Label& lblQG;
  crossrt::Label& lblV;
  crossrt::LabelArray& lblQ;
  crossrt::LabelArray& lblNum;
  crossrt::TextBoxArray& txtQ1;
  crossrt::TextBoxArray& txtQ2;
  crossrt::TextBoxArray& txtQ3;
  crossrt::TextBoxArray& txtQ4;
  crossrt::TextBoxArray& txtQ5;
  crossrt::TextBoxArray& txtQ6;
  crossrt::TextBoxArray& txtQ7;
  crossrt::CommandButton& Command1;

  // Word n (1..7) and its cells.
  crossrt::TextBoxArray& Word(int n);
  static constexpr int kWords = 7;

 protected:
  void Form_Load() override;

 private:
  crossrt::TextBoxArray& AddWord(int n);
  void InitAnswers();
  void CheckLetter(crossrt::TextBox& cell, const crossrt::String& letter);
  static crossrt::String LowerCyrillic(const crossrt::String& text);
  static void SelectLetter(crossrt::TextBox& cell);

  // What every word's handlers do, told which word they serve.
  void CellChange(int n, int Index);
  void CellGotFocus(int n, int Index);
  void CellKeyDown(int n, int Index, int& KeyCode, int Shift);

  void txtQ1_Change(int Index) { CellChange(1, Index); }
  void txtQ2_Change(int Index) { CellChange(2, Index); }
  void txtQ3_Change(int Index) { CellChange(3, Index); }
  void txtQ4_Change(int Index) { CellChange(4, Index); }
  void txtQ5_Change(int Index) { CellChange(5, Index); }
  void txtQ6_Change(int Index) { CellChange(6, Index); }
  void txtQ7_Change(int Index) { CellChange(7, Index); }
  void txtQ1_GotFocus(int Index) { CellGotFocus(1, Index); }
  void txtQ2_GotFocus(int Index) { CellGotFocus(2, Index); }
  void txtQ3_GotFocus(int Index) { CellGotFocus(3, Index); }
  void txtQ4_GotFocus(int Index) { CellGotFocus(4, Index); }
  void txtQ5_GotFocus(int Index) { CellGotFocus(5, Index); }
  void txtQ6_GotFocus(int Index) { CellGotFocus(6, Index); }
  void txtQ7_GotFocus(int Index) { CellGotFocus(7, Index); }
  void txtQ1_KeyDown(int Index, int& KeyCode, int Shift) { CellKeyDown(1, Index, KeyCode, Shift); }
  void txtQ2_KeyDown(int Index, int& KeyCode, int Shift) { CellKeyDown(2, Index, KeyCode, Shift); }
  void txtQ3_KeyDown(int Index, int& KeyCode, int Shift) { CellKeyDown(3, Index, KeyCode, Shift); }
  void txtQ4_KeyDown(int Index, int& KeyCode, int Shift) { CellKeyDown(4, Index, KeyCode, Shift); }
  void txtQ5_KeyDown(int Index, int& KeyCode, int Shift) { CellKeyDown(5, Index, KeyCode, Shift); }
  void txtQ6_KeyDown(int Index, int& KeyCode, int Shift) { CellKeyDown(6, Index, KeyCode, Shift); }
  void txtQ7_KeyDown(int Index, int& KeyCode, int Shift) { CellKeyDown(7, Index, KeyCode, Shift); }
  void Command1_Click();

  std::vector<crossrt::String> ansQ1, ansQ2, ansQ3, ansQ4, ansQ5, ansQ6, ansQ7;
};
