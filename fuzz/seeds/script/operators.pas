// Operator binding and the arithmetic of the language.
begin
  ShowMessage(2 + 3 * 4);          // expect: 14
  ShowMessage((2 + 3) * 4);        // expect: 20
  ShowMessage(7 div 2);            // expect: 3
  ShowMessage(-7 div 2);           // expect: -3
  ShowMessage(-7 mod 3);           // expect: -1
  ShowMessage(7 mod -3);           // expect: 1
  ShowMessage(7 / 2);              // expect: 3.5
  ShowMessage(6 / 3);              // expect: 2
  ShowMessage(1 + 2 = 3);          // expect: True
  ShowMessage(not True or True);   // expect: True
  ShowMessage(not (True or True)); // expect: False
  ShowMessage(1 < 2 = True);       // expect: True
  ShowMessage(2 * 3 = 6);          // expect: True
  ShowMessage($FF + 1);            // expect: 256
  ShowMessage(1 shl 4 + 1);        // expect: 17
  ShowMessage(12 and 10 or 1);     // expect: 9
  ShowMessage(5 xor 1);            // expect: 4
  ShowMessage('a' + 'b' + 'c');    // expect: abc
  ShowMessage('1' + 2);            // expect: 3
  ShowMessage(True + 1);           // expect: 0
  ShowMessage(2147483647 + 1);     // expect: 2147483648
  ShowMessage(9223372036854775807 + 1); // expect: 9.22337203685478E18
  ShowMessage(-2 * -3);            // expect: 6
  ShowMessage('It''s' + #32 + #$41); // expect: It's A
  ShowMessage(3 in [1, 2, 3]);     // expect: True
  ShowMessage(5 in [1..4, 6]);     // expect: False
  ShowMessage('b' in ['a', 'b']);  // expect: True
  ShowMessage(1.5e3);              // expect: 1500
end.
