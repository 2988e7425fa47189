// Statements: loops, case, break, continue, repeat.
var
  i, total: Integer;
  s: String;
begin
  total := 0;
  for i := 1 to 10 do
  begin
    if i mod 2 = 0 then Continue;
    if i > 7 then Break;
    total := total + i;
  end;
  ShowMessage(total);                  // expect: 16
  s := '';
  for i := 3 downto 1 do s := s + IntToStr(i);
  ShowMessage(s);                      // expect: 321
  i := 0;
  repeat Inc(i, 3) until i > 10;
  ShowMessage(i);                      // expect: 12
  while i > 0 do Dec(i);
  ShowMessage(i);                      // expect: 0
  for i := 1 to 4 do
    case i of
      1: ShowMessage('one');           // expect: one
      2, 3: ShowMessage('two or three'); // expect: two or three
    else
      ShowMessage('other');            // expect: two or three
    end;                               // expect: other
  case 'x' of 'a'..'m': ShowMessage('low'); else ShowMessage('high') end; // expect: high
  for i := 5 to 1 do ShowMessage('never');
end.
