// Inside with, names are the object's members first, then what they mean outside.
var
  Left: Integer;

function Twice(X: Integer): Integer;
begin
  Result := X * 2;
end;

begin
  Left := 1;
  with Memo1 do
  begin
    Left := Twice(Left);        // Memo1.Left, not the global
    Text := 'n=' + IntToStr(Left);
  end;
  ShowMessage(Memo1.Text);      // expect: n=20
  ShowMessage(Left);            // expect: 1
  with Engine, Memo1 do
  begin
    NewPage;
    ShowMessage(CurY);          // expect: 0
    ShowMessage(Visible);       // expect: True
  end;
  with Value do ShowMessage('never');
end.
// expect runtime error: With needs an object, not nil
