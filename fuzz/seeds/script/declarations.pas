// Constants, typed variables, arrays, strings as arrays of characters.
const
  Base = 10;
  Greeting = '你好';
  Half: Double = 1 / 2;
var
  a: array[1..3] of Integer;
  grid: array[0..1, 0..1] of String;
  n: Integer;
  f: Double;
  s: String = 'abc';
  d: TDateTime;
  i: Integer;
begin
  n := 2.5;                      // typed: rounds half to even
  ShowMessage(n);                // expect: 2
  f := 7;
  ShowMessage(f / 2);            // expect: 3.5
  n := '12';
  ShowMessage(n + Base);         // expect: 22
  for i := 1 to 3 do a[i] := i * i;
  ShowMessage(a[1] + a[2] + a[3]); // expect: 14
  grid[1, 0] := 'x';
  grid[0][1] := 'y';
  ShowMessage(grid[1][0] + grid[0, 1] + '|' + grid[0, 0] + '|'); // expect: xy||
  s[2] := 'Z';
  ShowMessage(s + s[3]);         // expect: aZcc
  ShowMessage(Greeting + IntToStr(Length(Greeting))); // expect: 你好2
  ShowMessage(Half);             // expect: 0.5
  d := EncodeDate(2024, 1, 31) + 1;
  ShowMessage(d);                // expect: 2024-02-01
  ShowMessage(String(12) + Integer('3')); // expect: 15
  ShowMessage(a[4]);
end.
// expect runtime error: Variant array index 4 out of bounds
